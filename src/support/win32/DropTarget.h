#pragma once

#include <windows.h>

#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace trayhound {

// Takes files, folders, shortcuts and web addresses dragged onto a window from Explorer or a
// browser. `accepts` says of what is dragged (paths or addresses, UTF-8, in the order given)
// whether it is welcome; the pointer shows the no-drop cursor when it is not. `drop` receives a
// welcome drop with the point on the screen. The window must be on a thread with OLE; the
// object outlives its registration.
class DropTarget final : public IDropTarget {
  public:
    using Texts = std::vector<std::string>;
    DropTarget(std::function<bool(const Texts&)> accepts,
               std::function<void(const Texts&, POINT)> drop);
    ~DropTarget();
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    // Throws Error when the window cannot take drops.
    void Register(HWND window);
    void Revoke() noexcept;

    // What is dragged as paths or addresses: files (CF_HDROP) first, else an address or a text.
    static Texts TextsOf(IDataObject& data);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at,
                                   DWORD* effect) override;

  private:
    std::function<bool(const Texts&)> accepts_;
    std::function<void(const Texts&, POINT)> drop_;
    HWND window_ = nullptr;
    ULONG references_ = 1;  // the owner's
    bool welcome_ = false;  // what is dragged over the window now
};

}  // namespace trayhound
