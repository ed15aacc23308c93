// One place for the version: the code and the version resource both read it.
#pragma once

#define QUILLORA_VERSION_MAJOR 1
#define QUILLORA_VERSION_MINOR 2
#define QUILLORA_VERSION_PATCH 1
#define QUILLORA_VERSION_BUILD 0
#define QUILLORA_VERSION_STRING "1.2.1.0"
