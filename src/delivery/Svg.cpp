#include "delivery/Plots.h"
