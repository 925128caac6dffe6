// The files the demo reads at run time, relative to its working directory, and the
// settings it plays the music with: the one list the demo, the asset tool and --help use.
#pragma once

enum class RunFileFormat { GlslSource, Tga, Bmp, Mp3 };

struct RunFile {
    const char* path;
    const char* role;  // what the demo does with it, for help texts
    RunFileFormat format;
    bool generated;  // written by `snowdemo-assets generate`; the others are hand-written
};

inline constexpr RunFile kVertexShaderFile{"kelvorin.vert", "the vertex shader of the snowman",
                                           RunFileFormat::GlslSource, false};
inline constexpr RunFile kFragmentShaderFile{"kelvorin.frag", "the fragment shader of the snowman",
                                             RunFileFormat::GlslSource, false};
// 16 x 16 glyph cells, 32 bits with alpha, run-length encoded (the font's grid).
inline constexpr RunFile kFontAtlasFile{"textures/font.tga", "the glyph atlas of the text",
                                        RunFileFormat::Tga, true};
inline constexpr RunFile kNormalMapFile{"textures/normalmapsnow.bmp",
                                        "the normal map that shades the snowman",
                                        RunFileFormat::Bmp, true};
inline constexpr RunFile kSnowTextureFile{"textures/snow.bmp", "the texture of the ground",
                                          RunFileFormat::Bmp, true};
inline constexpr RunFile kStoneTextureFile{"textures/stone.bmp",
                                           "a stone texture, loaded though nothing shows it",
                                           RunFileFormat::Bmp, true};
inline constexpr RunFile kMusicFile{"audio/coolestshitever.mp3", "the music", RunFileFormat::Mp3,
                                    true};

// In the order the demo loads them, the music last though it starts first.
inline constexpr const RunFile* kRunFiles[] = {
    &kFontAtlasFile,    &kNormalMapFile,      &kSnowTextureFile, &kStoneTextureFile,
    &kVertexShaderFile, &kFragmentShaderFile, &kMusicFile,
};

// The mixer: output rate in Hz and mixing channels; the piece plays once and then this
// many more times.
constexpr int kMusicMixRate = 44100;
constexpr int kMusicMixChannels = 32;
constexpr int kMusicLoopCount = 5;
