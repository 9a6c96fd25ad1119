#pragma once
// The Japanese system fonts the program's windows name do not exist here; each is mapped to
// the IPA font of the same design (fixed or proportional). Called once at start-up, before any
// window measures text.

void RegisterFontSubstitutions();
