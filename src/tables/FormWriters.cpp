#include "tables/FormWriters.h"

CFormWriters DefaultFormWriters() { return {&WriteDetailForm, &WritePolygonForm}; }
