#include "drawing/page_model.h"
