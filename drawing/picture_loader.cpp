#include "drawing/picture_loader.h"
