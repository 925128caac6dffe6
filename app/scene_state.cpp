// The one instance of the scene state and the program-wide resources.
#include "app/scene_state.h"

SceneState scene;

MusicStream* musicStream;
TextureFont sceneFont;
BmpTexture normalMapTexture;
BmpTexture snowTexture;
BmpTexture stoneTexture;
GLUquadric* sceneQuadric;
ShaderProgram sceneShader;
