#include "support/win32/DropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include "support/win32/ErrorPolicy.h"
#include "support/win32/SystemError.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {
namespace {

// The medium of one format of a data object, released with the owner.
class Medium {
  public:
    Medium(IDataObject& data, CLIPFORMAT format) {
        FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        got_ = SUCCEEDED(data.GetData(&wanted, &medium_));
    }
    ~Medium() {
        if (got_) ReleaseStgMedium(&medium_);
    }
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;
    HGLOBAL Global() const noexcept { return got_ ? medium_.hGlobal : nullptr; }

  private:
    STGMEDIUM medium_{};
    bool got_ = false;
};

std::vector<std::string> Files(IDataObject& data) {
    std::vector<std::string> files;
    const Medium medium(data, CF_HDROP);
    const auto handle = static_cast<HDROP>(medium.Global());
    if (!handle) return files;
    const UINT count = DragQueryFileW(handle, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(handle, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(handle, i, path.data(), static_cast<UINT>(path.size())));
        files.push_back(ToUtf8(path));
    }
    return files;
}

// A browser's address ("UniformResourceLocatorW"), else plain text.
std::vector<std::string> Text(IDataObject& data) {
    static const auto kAddress = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_INETURLW));
    for (const CLIPFORMAT format : {kAddress, static_cast<CLIPFORMAT>(CF_UNICODETEXT)}) {
        const Medium medium(data, format);
        const GlobalLockGuard<wchar_t> text(medium.Global());
        if (!text.get()) continue;
        const auto size = GlobalSize(medium.Global()) / sizeof(wchar_t);
        return {ToUtf8(std::wstring_view(text.get(), wcsnlen(text.get(), size)))};
    }
    return {};
}

}  // namespace

DropTarget::DropTarget(std::function<bool(const Texts&)> accepts,
                       std::function<void(const Texts&, POINT)> drop)
    : accepts_(std::move(accepts)), drop_(std::move(drop)) {}

DropTarget::~DropTarget() {
    Revoke();
}

void DropTarget::Register(HWND window) {
    // Drag and drop needs OLE on the window's thread, beyond the COM the program starts with.
    static const HRESULT ole = OleInitialize(nullptr);
    ThrowIfFailed(ole, "Cannot start OLE for drag and drop", "Trayhound.DropTarget.Register()");
    ThrowIfFailed(RegisterDragDrop(window, this), "Cannot take drops",
                  "Trayhound.DropTarget.Register()");
    window_ = window;
}

void DropTarget::Revoke() noexcept {
    if (window_) RevokeDragDrop(window_);
    window_ = nullptr;
}

DropTarget::Texts DropTarget::TextsOf(IDataObject& data) {
    auto files = Files(data);
    return files.empty() ? Text(data) : files;
}

HRESULT DropTarget::QueryInterface(REFIID id, void** object) {
    if (!object) return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The owner holds the object; the count only keeps OLE's references honest.
ULONG DropTarget::AddRef() {
    return ++references_;
}

ULONG DropTarget::Release() {
    return --references_;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    try {
        welcome_ = data && accepts_(TextsOf(*data));
    } catch (...) {
        welcome_ = false;
    }
    *effect = welcome_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    *effect = welcome_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT DropTarget::DragLeave() {
    welcome_ = false;
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect) {
    *effect = DROPEFFECT_NONE;
    try {
        const Texts texts = data ? TextsOf(*data) : Texts{};
        if (!texts.empty() && accepts_(texts)) {
            drop_(texts, POINT{at.x, at.y});
            *effect = DROPEFFECT_COPY;
        }
    } catch (...) {
        // The drag source learns that nothing was taken; the user learns why.
        HandleUncaughtError(window_);
    }
    welcome_ = false;
    return S_OK;
}

}  // namespace trayhound
