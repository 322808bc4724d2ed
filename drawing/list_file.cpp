#include "drawing/list_file.h"
