#pragma once
// The push button of the Quorvel library, as the program's forms place it:
// made by its class id from the library the registry names (the program
// never links the library), its look read from the form's design data.
//   Lumvex cmdOK{*this, "cmdOK"};
//   forms::ControlArray<Lumvex> cmAddress{*this, "cmAddress", {0, 1}};

#include "platform/com/Guid.h"
#include "platform/forms/OleControl.h"

inline constexpr CLSID CLSID_Lumvex = com::GuidLiteral("{40B5CE81-C5A8-11D2-8183-00002440DFD8}");
inline constexpr char kLumvexLibrary[] = "libquorvel.so";

using Lumvex = forms::OleControlOf<CLSID_Lumvex, kLumvexLibrary>;
