// Reading and changing what a field shows, and the "<" / ">" steppers of a
// numeric field. Limits are texts compared by their numbers.
#pragma once

#include <string>

namespace forms {

std::string GetFieldText(int id);
// A box whose text is set reports a change, as if the user had typed it.
void SetFieldText(int id, const std::string& text);
// Empties the field unless disabled.
void ClearField(int id, bool disabled);

// Unless disabled and unless the field's number has reached the limit, the
// field's number plus (minus) one replaces its text. True when it did.
bool StepUp(int id, const std::string& maximum, bool disabled);
bool StepDown(int id, const std::string& minimum, bool disabled);
// The same, and a changed text is also written to the key of the .cfg file.
bool StepUpAndStore(int id, const std::string& key, const std::string& maximum, bool disabled);
bool StepDownAndStore(int id, const std::string& key, const std::string& minimum, bool disabled);

} // namespace forms
