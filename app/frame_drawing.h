// The display callback: draws one frame of the scene and presents it.
#pragma once

void onDisplay();
