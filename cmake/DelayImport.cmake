# vozeror_delay_import(<lib> <dll>)
#
# Defines the target <lib>_delay: link it instead of <lib> and <dll> is
# delay-loaded, so it is not resolved with the program's static imports
# (before any code of ours runs) but at its first call, after start-up has
# restricted the DLL search path. The program's delay-load hook (WinMain.cpp)
# then takes it from the system folder.
#
# MSVC: the import library with /DELAYLOAD. MinGW: a delay-import library
# made by dlltool (-y) from the exports listed in the toolchain's import
# library; made at configure time, since it depends on the toolchain only.
function(vozeror_delay_import lib dll)
  set(target ${lib}_delay)
  if(TARGET ${target})
    return()
  endif()
  add_library(${target} INTERFACE)
  if(MSVC)
    target_link_libraries(${target} INTERFACE ${lib} delayimp)
    target_link_options(${target} INTERFACE /DELAYLOAD:${dll})
    return()
  endif()

  find_library(VOZEROR_IMPLIB_${lib} NAMES lib${lib}.a ${lib} REQUIRED)
  if(NOT CMAKE_NM OR NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "delay-loading ${dll} needs the toolchain's nm and dlltool")
  endif()
  set(implib ${VOZEROR_IMPLIB_${lib}})
  set(dir ${CMAKE_BINARY_DIR}/delayimp)
  set(out ${dir}/lib${lib}_delay.a)
  if(NOT EXISTS ${out} OR ${implib} IS_NEWER_THAN ${out})
    file(MAKE_DIRECTORY ${dir})
    execute_process(COMMAND ${CMAKE_NM} -g ${implib}
                    OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${CMAKE_NM} could not read ${implib}")
    endif()
    # Every import thunk's IAT slot: "__imp__Name@8" on x86 (stdcall names
    # keep their decoration; --kill-at imports them by the bare name), and
    # "__imp_Name" on x64.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(pattern "[0-9a-fA-F]+ I __imp__([^\n]+)")
    else()
      set(pattern "[0-9a-fA-F]+ I __imp_([^\n]+)")
    endif()
    string(REGEX MATCHALL "${pattern}" lines "${symbols}")
    set(def "LIBRARY ${dll}\nEXPORTS\n")
    foreach(line ${lines})
      string(REGEX REPLACE "${pattern}" "\\1" name "${line}")
      # Interface and class ids are data (some import libraries list them
      # as functions): nothing to delay-load, and libuuid defines them.
      if(name MATCHES "^_?(IID|CLSID|LIBID|DIID)_")
        continue()
      endif()
      string(APPEND def "  ${name}\n")
    endforeach()
    if(NOT lines)
      message(FATAL_ERROR "no exports found in ${implib}")
    endif()
    file(WRITE ${dir}/${lib}.def "${def}")
    execute_process(COMMAND ${CMAKE_DLLTOOL} --dllname ${dll} --input-def ${dir}/${lib}.def
                            --output-delaylib ${out} --kill-at
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      file(REMOVE ${out})
      message(FATAL_ERROR "${CMAKE_DLLTOOL} could not make ${out}: ${err}")
    endif()
  endif()
  # The helper that resolves a delay-loaded call (__delayLoadHelper2).
  target_link_libraries(${target} INTERFACE ${out} delayimp)
  # The i686 linker treats each stub of a delay-import library as an import
  # thunk and drops its code when nothing calls the stub itself; a call
  # through the import pointer (a dllimport declaration) then finds the
  # pointer aimed at nothing and jumps to address 0. Where a header lets the
  # import attribute be chosen, the functions are declared as plain externals
  # so that calls go through the stub; <wininet.h> does not, and
  # launcher/WinInetApi.h includes it that way.
  if(lib STREQUAL comctl32)
    target_compile_definitions(${target} INTERFACE WINCOMMCTRLAPI=)
  elseif(lib STREQUAL crypt32)
    target_compile_definitions(${target} INTERFACE WINCRYPT32API= WINIMPM=)
  endif()
endfunction()
