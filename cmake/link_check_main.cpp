// The entry of a layer's link check (cmake/OkuLayer.cmake): the program exists only
// to be linked, from every object of one layer and the layers below it.
int main() { return 0; }
