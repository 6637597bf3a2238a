#include "support/win32/ComApartment.h"

#include "support/win32/SystemError.h"

namespace trayhound {

ComApartment::ComApartment() {
    // S_FALSE (already initialised on this thread) still needs the balancing call.
    ThrowIfFailed(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE),
                  "Cannot initialise COM", "Trayhound.ComApartment()");
}

ComApartment::~ComApartment() {
    CoUninitialize();
}

}  // namespace trayhound
