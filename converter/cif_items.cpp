#include "cif_items.hpp"

#include <zatrel/zatrel.hpp>

namespace cif2str {

bool ToolboxItems::text(std::string_view name, std::string& value) {
  return zatrel::char_(name, value);
}

bool ToolboxItems::number(std::string_view name, double& value) {
  double uncertainty = 0.0;  // never used
  return zatrel::numd_(name, value, uncertainty);
}

bool ToolboxItems::in_loop() const { return zatrel::inloop_; }

}  // namespace cif2str
