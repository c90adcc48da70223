#pragma once
// The language runtime the program's modules are written against.

#include "platform/basic/App.h"
#include "platform/basic/Array.h"
#include "platform/basic/Currency.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/Format.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
