#include "engine/base/view_core.h"

#include "engine/base/combining_options.h"
#include "engine/base/process_state.h"

CvorbelViewCore* the_view = nullptr;

CvorbelViewCore::CvorbelViewCore(CvorbelDoc* doc, source_records* records)
    : document(doc), sources(records) {
  the_view = this;
  fix_point_1 = fix_point_2 = 1;
  source_bias = combining_options::start_source_bias;
  method_code = combining_options::method.StartCode();
  contrast_mode = combining_options::contrast.StartCode();
  contrast_bias = combining_options::start_contrast_bias;
}

CvorbelViewCore::~CvorbelViewCore() {
  if (the_view == this) the_view = nullptr;
}
