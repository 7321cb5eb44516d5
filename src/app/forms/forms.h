// The form toolkit: everything a tool needs to build its panel and tie its
// fields to the configuration file.
#pragma once

#include "app/forms/builders.h"
#include "app/forms/field_access.h"
#include "app/forms/file_dialogs.h"
#include "app/forms/parameter_entry.h"
#include "app/forms/shared_boxes.h"

namespace forms {} // namespace forms
