#include "PictureFiles.h"

#include <QtGlobal>

// The files sit in a static library: the linker keeps them only for a caller that
// registers them by name.
void LoadPictureFiles() {
    [[maybe_unused]] static const bool loaded = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
}
