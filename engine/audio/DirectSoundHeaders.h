#pragma once

// DirectSound 8 declarations, the same in every file of the sound layer.
#ifndef DIRECTSOUND_VERSION
#define DIRECTSOUND_VERSION 0x0800
#endif

#include <windows.h>
#include <mmreg.h>
#include <dsound.h>
