#include "delivery/Xml.h"
