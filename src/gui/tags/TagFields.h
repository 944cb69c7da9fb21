#pragma once

class QLineEdit;

namespace velmora::gui {

/// Keeps characters below 32 out of a tag field, whether typed or pasted:
/// they are dropped as they come in. Texts set by the program are left as
/// they are.
void DropControlCharacters(QLineEdit* field);

} // namespace velmora::gui
