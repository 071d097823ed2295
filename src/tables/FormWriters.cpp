#include "tables/FormWriters.h"

CFormWriters DefaultFormWriters() {
#ifdef VELMIRA_HAVE_FORMS
  return {&WriteDetailForm, &WritePolygonForm};
#else
  const std::string missing = "Bu sürümde Excel formları yazılamıyor.";
  return {[missing](const CVelmiraDoc&, const std::vector<PointKey>&, const std::filesystem::path&,
                    std::string& error) {
            error = missing;
            return false;
          },
          [missing](const CVelmiraDoc&, const std::vector<int>&, const std::filesystem::path&,
                    std::string& error) {
            error = missing;
            return false;
          }};
#endif
}
