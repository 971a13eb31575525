#include "dictionary/type_mapping.hpp"

#include <array>

#include "core/text.hpp"

namespace zatrel {

namespace {

struct TypeMapping {
  std::string_view code;  // the first four characters, blank-padded
  std::string_view type;
};

// "int" and "any" match only as whole words: their fourth character is a blank.
constexpr std::array<TypeMapping, 12> kMappings{{{"floa", "numb"},
                                                {"int ", "numb"},
                                                {"yyyy", "char"},
                                                {"symo", "char"},
                                                {"ucha", "char"},
                                                {"ucod", "char"},
                                                {"name", "char"},
                                                {"idna", "char"},
                                                {"any ", "char"},
                                                {"code", "char"},
                                                {"line", "char"},
                                                {"ulin", "char"}}};

}  // namespace

Flag4 toolbox_type(std::string_view code) {
  Flag4 start(code);
  locase_in_place(start.data(), Flag4::width);
  for (const TypeMapping& m : kMappings)
    if (start.view() == m.code) return Flag4(m.type);
  return start;
}

bool recognised_type(const Flag4& type) {
  return type.blank() || type == "char" || type == "text" || type == "numb" || type == "null";
}

}  // namespace zatrel
