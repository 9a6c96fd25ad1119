var re = /a[/]b/g, t = `x${ {a:1} }y` / 2; // c
/* d
*/ "e\
f"
