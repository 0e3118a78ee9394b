// The media runtime: everything the game uses of the platform. SDL, libpng, vorbis and the
// JSON library are only ever included by the runtime's own files.
#pragma once

#include "runtime/clipboard.h"
#include "runtime/colour.h"
#include "runtime/files.h"
#include "runtime/headless.h"
#include "runtime/images.h"
#include "runtime/input_devices.h"
#include "runtime/json.h"
#include "runtime/numbers.h"
#include "runtime/screen.h"
#include "runtime/sound.h"
#include "runtime/sprites.h"
#include "runtime/text.h"
#include "runtime/timing.h"
