#include "ui/win32/accessible_names.h"

#include <oleacc.h>

#include <string>

#include "os/wide_text.h"
#include "ui/win32/later_loaded.h"

namespace varidac::win32 {
namespace {

// As oleacc.h has them, spelt out here: the program links none of the
// accessibility libraries, which it needs only once a window stands.
constexpr GUID kServiceClass{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kServiceInterface{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kNameProperty{0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

IAccPropServices* service(IUnknown* unknown) { return static_cast<IAccPropServices*>(unknown); }

}  // namespace

bool AccessibleNames::give(HWND control, std::string_view name) {
    if (!service_) {
        static const auto initialize = laterLoaded<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        static const auto createInstance = laterLoaded<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
        if (!initialize || !createInstance || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED))) return false;
        IAccPropServices* created = nullptr;
        if (FAILED(createInstance(kServiceClass, nullptr, CLSCTX_INPROC_SERVER, kServiceInterface, reinterpret_cast<void**>(&created)))) {
            return false;
        }
        service_ = created;
    }
    const std::wstring text = os::wide(std::string(name));
    if (FAILED(service(service_)->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, kNameProperty, text.c_str()))) return false;
    named_.push_back(control);
    return true;
}

void AccessibleNames::clear() {
    if (!service_) return;
    MSAAPROPID property = kNameProperty;
    for (HWND control : named_) service(service_)->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &property, 1);
    named_.clear();
    service(service_)->Release();
    service_ = nullptr;
}

}  // namespace varidac::win32
