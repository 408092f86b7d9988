// The product's title, shown in window captions and message boxes.
#pragma once

#define QURAN_PRODUCT_TITLE "Quran Verse Search"
