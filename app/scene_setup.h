// One-time scene set-up: music, fixed GL state, font, textures, quadric, shader.
#pragma once

void initScene();
