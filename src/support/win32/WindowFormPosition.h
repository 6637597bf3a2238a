#pragma once

#include <windows.h>

#include <string>

#include "support/FormPosition.h"

namespace trayhound {

// A top-level window as FormPosition sees it. Twips are converted with the window's DPI.
class WindowFormPosition : public FormPositionView {
  public:
    WindowFormPosition(HWND window, std::string name) : window_(window), name_(std::move(name)) {}

    std::string Name() const override { return name_; }
    int WindowState() const override;
    void SetWindowState(int state) override;
    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    void SetLeft(double twips) override;
    void SetTop(double twips) override;
    void SetWidth(double twips) override;
    void SetHeight(double twips) override;
    double ScreenWidth() const override;
    double ScreenHeight() const override;
    double TwipsPerPixelX() const override;
    double TwipsPerPixelY() const override;
    std::string DecimalSeparator() const override;

  private:
    RECT Bounds() const noexcept;
    int ToPixels(double twips) const noexcept;
    void Move(int left, int top, int width, int height) const;

    HWND window_;
    std::string name_;
};

// The placement routines for a window, under the section `name` ("frmList", "frmOptions").
void RestoreFormPosition(HWND window, const std::string& name, bool restoreSize,
                         const SettingsStore& store);
void SaveFormPosition(HWND window, const std::string& name, SettingsStore& store);

}  // namespace trayhound
