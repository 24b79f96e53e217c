#!/usr/bin/env bash
# The Linux side's curl for the download benchmark, which runs under Wine and
# cannot start Linux programs itself. The benchmark writes a URL to DIR/request;
# this fetches it with curl and answers in DIR/result with the line
# "curl_seconds: S" (or "curl_failed: 1"), until DIR/stop appears or DIR is gone.
#   curl_helper.sh DIR
set -u
dir="$1"
while [ -d "$dir" ] && [ ! -e "$dir/stop" ]; do
  if [ -s "$dir/request" ]; then
    url=$(tr -d '\r\n' <"$dir/request")
    rm -f "$dir/request"
    if seconds=$(curl -s -o /dev/null -w '%{time_total}' "$url"); then
      echo "curl_seconds: $seconds" >"$dir/result.part"
    else
      echo "curl_failed: 1" >"$dir/result.part"
    fi
    mv "$dir/result.part" "$dir/result"
  fi
  sleep 0.05
done
