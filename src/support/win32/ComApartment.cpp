#include "support/win32/ComApartment.h"

#include "support/Error.h"

namespace trayhound {

ComApartment::ComApartment() {
    const HRESULT result =
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // S_FALSE: already initialised on this thread, which still needs the balancing call.
    if (FAILED(result)) {
        throw Error(static_cast<int>(result), "Cannot initialise COM.", "Trayhound.ComApartment()");
    }
}

ComApartment::~ComApartment() {
    CoUninitialize();
}

}  // namespace trayhound
