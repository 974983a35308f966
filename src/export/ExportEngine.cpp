#include "export/ExportEngine.h"

#include "core/Station.h"

namespace quillmar {

// The export engine is not written yet; this keeps its caller's decision testable.
void CheckExport(Station& st) {
    st.noteAction("CheckExport");
}

}  // namespace quillmar
