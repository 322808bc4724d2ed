#include "drawing/comma_text.h"
