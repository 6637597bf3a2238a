#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "support/SettingsStore.h"

namespace trayhound {

// A dialog window as the placement routines see it: outer bounds in screen twips, its state
// (0 normal, 1 minimized, 2 maximized) and the primary screen.
class FormPositionView {
  public:
    virtual ~FormPositionView() = default;

    // The settings section: the window's name, "frmList" or "frmOptions".
    virtual std::string Name() const = 0;

    virtual int WindowState() const = 0;
    virtual void SetWindowState(int state) = 0;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void SetLeft(double twips) = 0;
    virtual void SetTop(double twips) = 0;
    virtual void SetWidth(double twips) = 0;
    virtual void SetHeight(double twips) = 0;

    // The whole primary screen, not the work area.
    virtual double ScreenWidth() const = 0;
    virtual double ScreenHeight() const = 0;
    virtual double TwipsPerPixelX() const = 0;
    virtual double TwipsPerPixelY() const = 0;

    // The user's decimal separator, with which the numbers are written and read.
    virtual std::string DecimalSeparator() const = 0;
};

// Puts the window where it was last closed: with `restoreSize` its state, width and height
// too. A window never closed before goes to the lower right corner of the primary screen, 50
// pixels in from its edges. A stored value that is no number is skipped; the others still apply.
void RestoreFormPosition(FormPositionView& window, bool restoreSize, const SettingsStore& store);

// Stores the window's state, then its normal-state bounds (the window is left in the normal
// state). Throws the store's Error.
void SaveFormPosition(FormPositionView& window, SettingsStore& store);

namespace form_position {

// Decimal text of a single-precision number: whole numbers without a fraction, otherwise up to
// seven significant digits with the given decimal separator.
std::string FormatNumber(double value, std::string_view decimalSeparator);
// The number in such a text (blanks around it allowed), or nothing when it is no number.
std::optional<double> ParseNumber(std::string_view text, std::string_view decimalSeparator);
// The 16-bit whole number of such a text, rounded half to even as the classic conversion
// does, or nothing when it is no number or out of range.
std::optional<int> ParseInteger(std::string_view text, std::string_view decimalSeparator);

}  // namespace form_position

}  // namespace trayhound
