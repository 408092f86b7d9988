// The product's title and the details its About box shows.
#pragma once

#define QURAN_PRODUCT_TITLE "Quran Verse Search"
#define QURAN_MAKER_NAME "مشروع بحث الآيات"
#define QURAN_MAKER_CITY "القاهرة"
#define QURAN_MAKER_COUNTRY "مصر"
// The sources of the text and the roots, credited where the maker's address stands.
#define QURAN_MAKER_ADDRESS "tanzil.info corpus.quran.com"
#define QURAN_RIGHTS_NOTICE "Free software"
#define QURAN_RIGHTS_YEAR "2026"
