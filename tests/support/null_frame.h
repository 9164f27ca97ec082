#pragma once

// A window frame that ignores the size a board asks for: for boards built without a window.

#include "squares/cells.h"

namespace tessfield::fixtures {

class NullFrame final : public WindowFrame {
public:
    void setOuterSize(float /*widthTwips*/, float /*heightTwips*/) override {}
};

} // namespace tessfield::fixtures
