// pictures.h - the thirteen TGA pictures of the show, painted from code.
//
// Each painter returns a picture in the size its file gets (sides 256 or 512); row 0 is the
// top as the viewer sees it. What each one must do for its scene:
//   PaintGroundTexture   "grasmap.TGA": the terrain's ground, one texel per terrain cell, laid
//                        out like the height map (image column = terrain x, image row = terrain
//                        z), shaded by its slopes, ash-dark near the crater; tiles seamlessly.
//   PaintBackdrop        "all.TGA": sky and distant mountains for the four backdrop walls; the
//                        horizon sits a little below the middle, where the walls meet the
//                        terrain's far edge; repeats left to right so the walls' corners meet.
//   PaintParticleGlow    "part.TGA" (32-bit): a soft round glow, black and transparent at the edge.
//   PaintBrushedMetal    "metal.TGA": dark brushed metal, added over the model scene, so mostly
//                        dark with a few glints; repeats around the tube.
//   PaintFish            "fish.TGA": a fish in deep water; dark enough that two additive copies
//                        glow rather than burn out.
//   PaintChromeMap       "fishmet.TGA": a sphere map of a chrome world for the spinning star.
//   PaintTitleCard / PaintCreditsCard: text cards; all text stays in the middle 70 % because
//                        the image square is cut at the view's edges.
#pragma once

#include <string>
#include <vector>

#include "image.h"

Image PaintGroundTexture(const std::vector<float>& heightField);
Image PaintBackdrop();
Image PaintParticleGlow();
Image PaintBrushedMetal();
Image PaintFish();
Image PaintChromeMap();

struct CardText {
    std::string headline;  // large
    std::string byline;    // small, under a rule; may be empty
    std::string kicker;    // small, above the headline; may be empty
    Rgba tint;             // the card's glow colour
};

Image PaintTitleCard(const CardText& text, const std::string& fontPath);
