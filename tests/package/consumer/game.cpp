// A game that has a Board and a Gender of its own, using the installed composer beside them.
#include <norvathel/name_composer.h>

#include <cstdio>

struct Board {};
enum Gender { Neither };

int main()
{
    norvathel::AdditiveRandom random;
    random.Seed(1000000000u);
    norvathel::Board board;
    norvathel::ComposeBoard(random, norvathel::DrawStartGender(random), "", board);
    std::printf("%s %s %s\n", board.names[0], board.names[1], board.names[2]);
    return 0;
}
