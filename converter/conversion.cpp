#include "conversion.hpp"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "stop.hpp"
#include "tables.hpp"

namespace cif2str {
namespace {

std::string read_text(CifItems& cif, std::string_view name) {
  std::string value;
  if (!cif.text(name, value)) stop_reading(name);
  value.resize(without_trailing_blanks(value).size());
  return value;
}

double read_number(CifItems& cif, std::string_view name) {
  double value = 0.0;
  if (!cif.number(name, value)) stop_reading(name);
  return value;
}

// The first item of a row of a loop that must hold `rows` rows. A loop that
// ends before the last row stops the run: asked again, it would silently
// start over at its first row.
std::string read_row_key(CifItems& cif, std::string_view name, long long row,
                         long long rows) {
  std::string key = read_text(cif, name);
  if (row < rows && !cif.in_loop()) stop_reading(name);
  return key;
}

// A negative count could size no table.
int checked_count(double value, std::string_view name) {
  const int count = nearest_integer(value);
  if (count < 0) stop_reading(name);
  return count;
}

// Each line right after its read.
void write_cell(CifItems& cif, StrWriter& out) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> cell{{
      {"_cell_length_a", "a "},
      {"_cell_length_b", "b "},
      {"_cell_length_c", "c "},
      {"_cell_angle_alpha", "al"},
      {"_cell_angle_beta", "be"},
      {"_cell_angle_gamma", "ga"},
  }};
  for (const auto& [name, tag] : cell) out.cell_parameter(tag, read_number(cif, name));
}

int read_displacive_count(CifItems& cif) {
  constexpr std::string_view name = "_qel_displacivemode_number";
  return checked_count(read_number(cif, name), name);
}

// A CIF without occupancy modes may leave the count out or give it as null.
int read_occupancy_count(CifItems& cif) {
  constexpr std::string_view name = "_qel_occupancymode_number";
  double value = 0.0;
  if (!cif.number(name, value)) return 0;
  return checked_count(value, name);
}

std::vector<Atom> read_atoms(CifItems& cif) {
  constexpr std::string_view label_name = "_atom_site_label";
  long long rows = 0;
  do {
    read_text(cif, label_name);
    ++rows;
  } while (cif.in_loop());

  std::vector<Atom> atoms;
  atoms.reserve(static_cast<std::size_t>(rows));
  for (long long row = 1; row <= rows; ++row) {
    Atom atom;
    atom.label = read_row_key(cif, label_name, row, rows);
    atom.type = site_type(read_text(cif, "_atom_site_type_symbol"));
    atom.xyz[0] = read_number(cif, "_atom_site_fract_x");
    atom.xyz[1] = read_number(cif, "_atom_site_fract_y");
    atom.xyz[2] = read_number(cif, "_atom_site_fract_z");
    // Left at 1.0 when the CIF gives none.
    cif.number("_atom_site_occupancy", atom.occupancy);
    atoms.push_back(std::move(atom));
  }
  return atoms;
}

struct ModeNames {
  std::string_view label, value;
};

void write_mode_definitions(CifItems& cif, StrWriter& out, const ModeSet& modes,
                            ModeNames names) {
  for (long long i = 1; i <= modes.count; ++i) {
    const std::string label = read_row_key(cif, names.label, i, modes.count);
    const double amplitude = read_number(cif, names.value);
    out.mode_definition(modes.name(i).text(), amplitude, label);
  }
}

void read_deltas(CifItems& cif, ModeSet& modes, ModeNames names) {
  for (long long i = 1; i <= modes.count; ++i) {
    DeltaParameter delta;
    delta.label = read_row_key(cif, names.label, i, modes.count);
    delta.value = read_number(cif, names.value);
    modes.deltas.push_back(std::move(delta));
  }
}

struct MatrixNames {
  std::string_view row, column, value;
};

constexpr MatrixNames displacive_matrix{"_qel_displacivemodematrix_row", "_qel_displacivemodematrix_col",
                                        "_qel_displacivemodematrix_value"};
constexpr MatrixNames occupancy_matrix{"_qel_occupancymodematrix_row", "_qel_occupancymodematrix_col",
                                       "_qel_occupancymodematrix_value"};

// Walks the matrix loop to its end. Cells are checked as they are read, so
// that no entry lands outside the matrix.
SparseMatrix read_matrix(CifItems& cif, int order, MatrixNames names,
                         std::size_t max_entries) {
  SparseMatrix matrix(order);
  std::size_t entries = 0;
  do {
    const int row = nearest_integer(read_number(cif, names.row));
    if (++entries > max_entries || !matrix.holds_index(row)) stop_reading(names.row);
    const int column = nearest_integer(read_number(cif, names.column));
    if (!matrix.holds_index(column)) stop_reading(names.column);
    matrix.set(row, column, read_number(cif, names.value));
  } while (cif.in_loop());
  return matrix;
}

void write_transformations(StrWriter& out, const ModeSet& modes, std::size_t maxlen) {
  for (int i = 1; i <= modes.count; ++i)
    out.transformation(modes.deltas[static_cast<std::size_t>(i - 1)], modes.matrix.row(i),
                       modes, maxlen);
}

// Three rows per atom, x, y and z, in the order of the atom sites: rows are
// matched by position, not by label.
void write_coordinates(CifItems& cif, StrWriter& out, const std::vector<Atom>& atoms,
                       std::size_t maxlen) {
  const long long rows = 3 * static_cast<long long>(atoms.size());
  long long row = 0;
  for (const Atom& atom : atoms) {
    for (const double value : atom.xyz) {
      const std::string label = read_row_key(cif, "_qel_coordinate_label", ++row, rows);
      const std::string formula = read_text(cif, "_qel_coordinate_formula");
      out.coordinate(label, formula, value, maxlen);
    }
  }
}

void write_occupancies(CifItems& cif, StrWriter& out, const std::vector<Atom>& atoms,
                       std::size_t maxlen) {
  const auto rows = static_cast<long long>(atoms.size());
  long long row = 0;
  for (const Atom& atom : atoms) {
    const std::string label = read_row_key(cif, "_qel_occupancy_label", ++row, rows);
    const std::string formula = read_text(cif, "_qel_occupancy_formula");
    out.occupancy(label, formula, atom.occupancy, maxlen);
  }
}

}  // namespace

void convert(CifItems& cif, StrWriter& out, std::size_t max_matrix_entries) {
  out.header();
  out.space_group(read_text(cif, "_symmetry_space_group_name_H-M"));
  write_cell(cif, out);
  out.empty_line();

  const int ndisp = read_displacive_count(cif);
  ModeSet displacive{'a', ndisp, {}, SparseMatrix(ndisp)};
  const int nocc = read_occupancy_count(cif);
  ModeSet occupancy{'b', nocc, {}, SparseMatrix(nocc)};

  const std::vector<Atom> atoms = read_atoms(cif);
  const std::size_t maxlen = longest_label(atoms);

  out.comment("mode definitions");
  write_mode_definitions(cif, out, displacive,
                         {"_qel_displacivemode_label", "_qel_displacivemode_value"});
  write_mode_definitions(cif, out, occupancy,
                         {"_qel_occupancymode_label", "_qel_occupancymode_value"});
  out.empty_line();

  read_deltas(cif, displacive, {"_qel_deltacoordinate_label", "_qel_deltacoordinate_value"});
  read_deltas(cif, occupancy, {"_qel_deltaoccupancy_label", "_qel_deltaoccupancy_value"});

  out.comment("mode-amplitude to delta-coord/occ transformation");
  displacive.matrix = read_matrix(cif, ndisp, displacive_matrix, max_matrix_entries);
  write_transformations(out, displacive, maxlen);
  // Without occupancy modes a CIF needs no occupancy matrix.
  if (nocc != 0)
    occupancy.matrix = read_matrix(cif, nocc, occupancy_matrix, max_matrix_entries);
  write_transformations(out, occupancy, maxlen);
  out.empty_line();

  out.comment("distorted coordinates");
  write_coordinates(cif, out, atoms, maxlen);
  if (nocc != 0) write_occupancies(cif, out, atoms, maxlen);
  out.empty_line();

  out.comment("mode-dependent atoms");
  for (const Atom& atom : atoms) out.site(atom, maxlen, nocc >= 1);
}

}  // namespace cif2str
