#include "drawing/number_text.h"
