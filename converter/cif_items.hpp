// The three reads the converter asks of a CIF: a text item, a number item,
// and whether the loop being walked has rows left.
#pragma once

#include <string>
#include <string_view>

namespace cif2str {

class CifItems {
 public:
  virtual ~CifItems() = default;
  // The item's value when the CIF gives it as text.
  virtual bool text(std::string_view name, std::string& value) = 0;
  // The item's value when the CIF gives it as a number; `value` is left
  // unchanged otherwise.
  virtual bool number(std::string_view name, double& value) = 0;
  // After a read of a looped item: rows remain after the current one.
  virtual bool in_loop() const = 0;
};

// The items of the data block the toolbox has selected.
class ToolboxItems final : public CifItems {
 public:
  bool text(std::string_view name, std::string& value) override;
  bool number(std::string_view name, double& value) override;
  bool in_loop() const override;
};

}  // namespace cif2str
