// The yardstick for the demo's frame rate: the same geometry (four fans, a textured
// ground square, six spheres at the demo's tessellations) through the fixed-function
// pipeline and nothing else: no shader, no text, no animation state.
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdlib>
#include <vector>

namespace {

GLUquadric* quadric = nullptr;
GLuint groundTexture = 0;

void makeGroundTexture() {
    std::vector<GLubyte> pixels(256 * 256 * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<GLubyte>(200 + i % 50);
    glGenTextures(1, &groundTexture);
    glBindTexture(GL_TEXTURE_2D, groundTexture);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 256, 256, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 3, 10, 0, 0, 0, 0, 1, 0);
    const float g = -2.6f;
    const float fans[4][5][3] = {
        {{2, 10, 19}, {5, g, 13}, {-3, g, 21}, {10, g, 25}, {5, g, 13}},
        {{-8, 9, 22}, {-2, g, 30}, {-3, g, 14}, {-18, g, 21}, {-2, g, 30}},
        {{-16, 7, 3}, {-12, g, 9}, {-14, g, -2}, {-25, g, 6}, {-12, g, 9}},
        {{-12, 7, 11}, {-7, g, 16}, {-11, g, 5}, {-20, g, 13}, {-7, g, 16}},
    };
    for (const auto& fan : fans) {
        glBegin(GL_TRIANGLE_FAN);
        glColor3ub(200, 100, 50);
        for (const auto& v : fan) glVertex3f(v[0], v[1], v[2]);
        glEnd();
    }
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, groundTexture);
    glBegin(GL_POLYGON);
    glTexCoord2f(0, 0);
    glVertex3f(-150, g, -150);
    glTexCoord2f(5, 0);
    glVertex3f(-150, g, 150);
    glTexCoord2f(5, 5);
    glVertex3f(150, g, 150);
    glTexCoord2f(0, 5);
    glVertex3f(150, g, -150);
    glEnd();
    glEnable(GL_LIGHTING);
    glColor3f(0.8f, 0.8f, 0.8f);
    const float offsets[5][3] = {
        {0, -1.5f, 0}, {0, 1.5f, 0}, {0, 1.1f, 0}, {-0.8f, -1, 0.1f}, {1.6f, 0, 0}};
    const double radii[5] = {1.0, 0.8, 0.5, 0.2, 0.2};
    const int slices[5] = {50, 40, 30, 15, 15};
    for (int i = 0; i < 5; ++i) {
        glTranslatef(offsets[i][0], offsets[i][1], offsets[i][2]);
        gluSphere(quadric, radii[i], slices[i], slices[i]);
    }
    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glTranslatef(150, 20, 150);
    gluSphere(quadric, 5.0, 25, 25);
    glPopMatrix();
    glutSwapBuffers();
}

void reshape(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / (height > 0 ? height : 1), 1.0, 1000.0);
}

void keyboard(unsigned char key, int, int) {
    if (key == 27) std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitWindowSize(800, 600);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutGameModeString("1024x768:32@60");
    if (glutEnterGameMode() == 0) {
        glutCreateWindow("bare scene");
        glutFullScreen();
    }
    glutDisplayFunc(display);
    glutIdleFunc(glutPostRedisplay);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glClearColor(0.3f, 0.3f, 0.8f, 0.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
    quadric = gluNewQuadric();
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_TRUE);
    makeGroundTexture();
    glutMainLoop();
    return 0;
}
