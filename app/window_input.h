// Keyboard and window callbacks. The key callbacks only record which keys are held;
// onIdle turns held keys into motion.
#pragma once

void onKeyboard(unsigned char key, int x, int y);
void onSpecialDown(int key, int x, int y);
void onSpecialUp(int key, int x, int y);
void onReshape(int width, int height);
