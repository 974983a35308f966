#include "FuzzStation.h"

namespace quillmar::fuzz {

quillmar::testing::SimStation& Station() {
    static auto* station = [] {
        auto* s = new quillmar::testing::SimStation;
        s->start();
        return s;
    }();
    return *station;
}

}  // namespace quillmar::fuzz
