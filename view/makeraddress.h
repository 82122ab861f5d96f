#ifndef MAKERADDRESS_H
#define MAKERADDRESS_H

// The maker's web site: the book's one link, the toolbar's More Free E-Books and the
// About box's banner all lead there.
inline constexpr char MakerAddress[] = "http://www.palendor.example/";

#endif // MAKERADDRESS_H
