#include "engine/view_core.h"

#include "engine/process_state.h"

CvorbelViewCore* the_view = nullptr;

CvorbelViewCore::CvorbelViewCore(CvorbelDoc* doc, source_records* records)
    : document(doc), sources(records) {
  the_view = this;
  fix_point_1 = fix_point_2 = 1;
  source_bias = 127;
  method_code = 8;
  contrast_mode = 1;
  contrast_bias = 127;
}

CvorbelViewCore::~CvorbelViewCore() {
  if (the_view == this) the_view = nullptr;
}
