// A file laid out against the house style: the format check must name it.
int   laidOut( int a ){return a;}
