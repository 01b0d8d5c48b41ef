#pragma once
// Whether a prerequisite the product manifest lists is already on the
// machine. Known prerequisites are looked up by their installer's exact file
// name; anything else is always installed.

#include <string>

bool IsDependencyPresent(const std::wstring& name);
