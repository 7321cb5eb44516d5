// Configuration store (being written).
#include "app/config_store.h"
