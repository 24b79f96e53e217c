#pragma once
// The installation probe: decides from the uninstall registry whether each
// product is installed and, by its row's launch rule, where its executable
// is. It runs on the UI thread; the view turns its results into install
// states (ProductState.h).

#include "launcher/Products.h"

#include <string>

namespace Launcher {

// What the registry said of a product.
enum ProbeResult
{
    NotProbed = 0,
    ProbedInstalled = 1,  // its key opens
    ProbedMissing = 2,    // its key cannot be opened, for whatever reason
};

// The products' launch paths and what each one's last probe found.
class CProductProbe
{
public:
    // Reads every product's key afresh (ProbeProduct).
    void ProbeProducts();

    // Reads one product's key afresh and writes its launch path by its row's
    // rule (LaunchPathFromValue). Other indices: NotProbed, nothing written.
    ProbeResult ProbeProduct(int index);

    // NotProbed before the product's first probe.
    ProbeResult Result(int index) const;
    // Empty until a probe found one.
    const std::wstring& LaunchPath(int index) const;

private:
    ProbeResult m_result[kProductCount] = {};
    std::wstring m_path[kProductCount];
};

// The launch path a product's value gives by the row's launch rule, where
// earlier is the path of the last probe. A derived path longer than
// kMaxPathLength is empty.
std::wstring LaunchPathFromValue(const ProductInfo& product, const std::wstring& value,
                                 const std::wstring& earlier);

// The folder product index starts in: the value its row names of its key
// (key form chosen afresh); empty when the row names none, or the key
// cannot be opened or the value read.
std::wstring ReadStartFolder(int index);

}  // namespace Launcher
