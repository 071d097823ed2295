#include "delivery/Report.h"
