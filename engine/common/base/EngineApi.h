#pragma once

// Marks a function or class as part of the engine's public surface: exported
// from the program's executable under its decorated name.
#define RV_API __declspec(dllexport)
