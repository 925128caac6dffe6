// The idle callback: one animation step per call, then a request for a frame.
#pragma once

void onIdle();
