#pragma once

// Screen and scale units of the forms toolkit. Twips are the source of
// truth (1440 per inch); pixels are derived from the screen's twips per pixel.
namespace q7::forms {

enum ScaleMode { ScaleUser = 0, ScaleTwips = 1, ScalePoints = 2, ScalePixels = 3, ScaleCharacters = 4, ScaleInches = 5,
                 ScaleMillimeters = 6, ScaleCentimeters = 7 };

// The screen object: twips per pixel in x and y (15 on a 96-dpi screen).
struct Screen {
    static double twipsPerPixelX();
    static double twipsPerPixelY();
    static void setTwipsPerPixel(double x, double y); // for tests and odd displays
    static double widthTwips();
    static double heightTwips();
};

// Twips in one unit of a fixed scale mode (not ScaleUser), horizontally or vertically.
double twipsPerUnit(int scaleMode, bool horizontal);

} // namespace q7::forms
