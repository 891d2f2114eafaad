namespace oravent {
int placeholder_ = 0;
}
