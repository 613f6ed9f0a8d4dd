// The Qt build's dialog resources: Designer forms, each built by a factory registered under its
// resource number. A control of a form is found by its number: the widget whose objectName is
// "id1029" is field 1029.
#pragma once

#include <functional>

class QWidget;

namespace toolkit {

/// A text field whose dynamic property of this name is true holds a number, padded with blanks
/// to its width: copied (keyboard, context menu, mouse selection), it gives the number alone.
inline constexpr const char* kNumberField = "numberField";

/// A label whose dynamic property of this name is true says why a field failed: screen readers
/// announce its text when it appears.
inline constexpr const char* kAlertLabel = "alertLabel";

/// A dialog whose dynamic property of this name holds a QSize opens its window at least that
/// large (as far as the screen allows).
inline constexpr const char* kPreferredSize = "preferredSize";

}  // namespace toolkit

namespace toolkit::qt {

/// Builds a fresh instance of a dialog's contents, without a parent: the window or modal
/// dialog that shows it becomes its owner.
using DialogFactory = std::function<QWidget*()>;
void register_dialog(int id, DialogFactory factory);

/// Gives the controls of a freshly built form what register_fields says of them: names,
/// widths, alignment, lengths, read-only states, list entries and the order Tab takes.
void apply_fields(QWidget* form, int dialog);

}  // namespace toolkit::qt
