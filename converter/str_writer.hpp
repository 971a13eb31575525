// Every line of the TOPAS structure file, each ending in CR LF.
#pragma once

#include <cstddef>
#include <ostream>
#include <span>
#include <string_view>

#include "fixed_line.hpp"
#include "tables.hpp"

namespace cif2str {

class StrWriter {
 public:
  explicit StrWriter(std::ostream& out) : out_(out) {}

  void header();
  void space_group(std::string_view symbol);
  // tag: two characters ("a ", "al", ...).
  void cell_parameter(std::string_view tag, double value);
  void comment(std::string_view text);
  void empty_line();

  // prm !a1 with its amplitude, its range and the CIF's label as a comment.
  void mode_definition(std::string_view name, double amplitude, std::string_view label);

  // A delta parameter as the sum of its matrix row's terms over the modes.
  void transformation(const DeltaParameter& delta, std::span<const MatrixEntry> terms,
                      const ModeSet& modes, std::size_t maxlen);

  // A distorted coordinate; marked ! (not refined) when its formula holds no
  // lower-case d, that is refers to no delta parameter.
  void coordinate(std::string_view label, std::string_view formula, double value,
                  std::size_t maxlen);
  void occupancy(std::string_view label, std::string_view formula, double value,
                 std::size_t maxlen);

  // The site of one atom, tied to its distorted parameters.
  void site(const Atom& atom, std::size_t maxlen, bool with_occupancy_modes);

 private:
  void formula_line(std::string_view opening, std::string_view label,
                    std::string_view formula, double value, std::size_t maxlen);
  void write(std::string_view text);

  std::ostream& out_;
  FixedLine line_;
};

}  // namespace cif2str
