#include "core/state.hpp"

#include <memory>

namespace zatrel {

State& construct_state() {
  // Built on first use, so the public references below are safe to bind
  // during static initialisation.
  static const std::unique_ptr<State> the_state = std::make_unique<State>();
  return *the_state;
}

void reset_state() { state() = State{}; }

bool open_message_file(int unit, const std::string& path) {
  return state().core.units.open_message_file(unit, path);
}

void close_unit(int unit) { state().core.units.close(unit); }

#define ZATREL_BIND(type, name) type& name = state().vis.name;

ZATREL_BIND(Text<200>, strval_)
ZATREL_BIND(Text<72>, blockname_)
ZATREL_BIND(Text<200>, filename_)
ZATREL_BIND(Text<4>, itemtype_)
ZATREL_BIND(Text<72>, dicttype_)
ZATREL_BIND(Text<72>, dictcat_)
ZATREL_BIND(Text<72>, dictname_)
ZATREL_BIND(Text<72>, dictver_)
ZATREL_BIND(Text<72>, foundname_)
ZATREL_BIND(Text<1>, lastquote_)
ZATREL_BIND(Text<1>, outquote_)
ZATREL_BIND(Text<32>, version_)

ZATREL_BIND(int, loopno_)
ZATREL_BIND(int, vallen_)
ZATREL_BIND(int, fnlen_)
ZATREL_BIND(int, line_)
ZATREL_BIND(int, esdlim_)
ZATREL_BIND(int, inlineno_)
ZATREL_BIND(int, outlineno_)
ZATREL_BIND(int, namepos_)
ZATREL_BIND(int, valpos_)
ZATREL_BIND(int, decpos_)
ZATREL_BIND(int, endpos_)
ZATREL_BIND(int, pnamepos_)
ZATREL_BIND(int, pvalpos_)
ZATREL_BIND(int, pdecpos_)
ZATREL_BIND(int, pendpos_)
ZATREL_BIND(int, firstline_)
ZATREL_BIND(int, lastline_)
ZATREL_BIND(int, inesddig_)
ZATREL_BIND(int, pesddig_)

ZATREL_BIND(bool, inloop_)
ZATREL_BIND(bool, intext_)
ZATREL_BIND(bool, ploopwrap_)
ZATREL_BIND(bool, insave_)
ZATREL_BIND(bool, psave_)
ZATREL_BIND(bool, paliases_)
ZATREL_BIND(bool, aliases_)
ZATREL_BIND(bool, palign_)
ZATREL_BIND(bool, intabs_)
ZATREL_BIND(bool, ptabs_)
ZATREL_BIND(bool, nullblank_)
ZATREL_BIND(bool, pnullblank_)
ZATREL_BIND(bool, inglobal_)
ZATREL_BIND(bool, pglobal_)
ZATREL_BIND(bool, indecpt_)
ZATREL_BIND(bool, pdecpt_)
ZATREL_BIND(bool, inleadzero_)
ZATREL_BIND(bool, pleadzero_)
ZATREL_BIND(bool, appendcif_)
ZATREL_BIND(bool, pxml_)
ZATREL_BIND(bool, pcatname_)

ZATREL_BIND(float, rprec_)
ZATREL_BIND(double, dprec_)
ZATREL_BIND(float, rmin_)
ZATREL_BIND(double, dmin_)
ZATREL_BIND(int, dminexp_)
ZATREL_BIND(Text<8>, dfmt_)

#undef ZATREL_BIND

}  // namespace zatrel
