#include "drawing/color_names.h"
