// Snowman fragment shader: per-pixel lighting from the directional light 0 with the
// fixed-function material, the normal tilted by the snow relief of the normal map.
#version 110

uniform sampler2D normalmap;  // texture unit 0
uniform mat4 light_mvmatrix;  // the frame's camera: world to eye space

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec2 reliefCoord;

// How far the relief may tilt the surface normal; below 1/sqrt(2) the tilted normal
// can never vanish or turn away from the surface, whatever the map holds.
const float kReliefStrength = 0.5;

void main() {
    vec3 normal = normalize(eyeNormal);

    // The relief lies along the world's horizontal, whichever way the camera looks:
    // the tangent runs around the world's up axis (its x axis at the poles).
    vec3 worldUp = vec3(light_mvmatrix * vec4(0.0, 1.0, 0.0, 0.0));
    vec3 tangent = cross(worldUp, normal);
    if (dot(tangent, tangent) < 1.0e-6) {
        tangent = vec3(light_mvmatrix * vec4(1.0, 0.0, 0.0, 0.0));
    }
    tangent = normalize(tangent);
    vec3 bitangent = cross(normal, tangent);
    vec2 relief = texture2D(normalmap, reliefCoord).rg * 2.0 - 1.0;
    normal = normalize(normal + kReliefStrength * (relief.x * tangent + relief.y * bitangent));

    // A directional light's position is its direction, already in eye space.
    vec3 toLight = normalize(gl_LightSource[0].position.xyz);
    vec3 toEye = normalize(-eyePosition);
    float diffuse = max(dot(normal, toLight), 0.0);
    float specular = 0.0;
    if (diffuse > 0.0) {
        vec3 halfway = normalize(toLight + toEye);
        specular = pow(max(dot(normal, halfway), 0.0), gl_FrontMaterial.shininess);
    }

    vec4 colour = gl_FrontLightModelProduct.sceneColor + gl_FrontLightProduct[0].ambient +
                  diffuse * gl_FrontLightProduct[0].diffuse +
                  specular * gl_FrontLightProduct[0].specular;
    gl_FragColor = vec4(colour.rgb, gl_FrontMaterial.diffuse.a);
}
