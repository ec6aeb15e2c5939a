#pragma once

#include <QtGlobal>

// Registers the compiled-in pictures under ":/images/". The images live in a static
// library, so the linker would drop their registration unless someone calls it: main()
// and every test that loads a picture call this once before the first use. Calling it
// again is harmless. It must stay in the global namespace, where the resource compiler
// puts the registration function.
inline void InitOrvoImages()
{
    Q_INIT_RESOURCE(images);
}
