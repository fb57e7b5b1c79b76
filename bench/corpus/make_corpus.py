#!/usr/bin/env python3
"""Writes messages.txt: twelve days of a child's messages on "Premiers mots", one per line,
the pictures' phrases joined by " + ". Each day has its routine (morning, meals, evening) and
messages of the moment drawn, with their weights, from the lists below; the same seed gives
the same file. Run it again after changing the lists."""
import random

MORNING = [
    ("bonjour + maman", 5), ("bonjour + papa", 3), ("je + être + fatigué", 3),
    ("je + vouloir + aller + aux toilettes", 5), ("je + vouloir + boire + du lait", 4),
    ("je + vouloir + boire + du chocolat chaud", 3), ("je + vouloir + manger + du pain", 3),
    ("je + vouloir + manger + des céréales", 3), ("je + vouloir + mettre + mon pull", 2),
    ("je + vouloir + mettre + mes chaussures", 2), ("je + vouloir + mettre + mon manteau", 2),
    ("on + aller + à l'école", 3), ("je + aller + à l'école", 2), ("je + avoir + faim", 3),
    ("encore", 2), ("fini", 2), ("je + vouloir + mon doudou", 0),
]
MEALS = [
    ("je + avoir + faim", 5), ("je + avoir + soif", 4), ("je + vouloir + boire + de l'eau", 6),
    ("je + vouloir + manger + des pâtes", 3), ("je + vouloir + manger + des frites", 3),
    ("je + vouloir + manger + une pizza", 2), ("je + vouloir + manger + du poulet", 2),
    ("je + vouloir + manger + une banane", 2), ("je + vouloir + manger + une pomme", 2),
    ("je + vouloir + manger + un yaourt", 2), ("je + vouloir + manger + un gâteau", 2),
    ("je + vouloir + manger + une glace", 2), ("je + vouloir + encore + des frites", 1),
    ("encore + s'il te plaît", 4), ("fini", 4), ("merci", 4), ("je + aimer + ça", 2),
    ("je + vouloir + pas + ça", 2), ("non + merci", 2), ("je + vouloir + boire + du jus d'orange", 3),
    ("je + vouloir + boire + du jus de pomme", 2), ("je + vouloir + du pain", 2),
    ("je + vouloir + manger + de la soupe", 1), ("je + vouloir + manger + du fromage", 1),
    ("je + vouloir + boire + de la limonade", 1), ("je + vouloir + manger + du riz", 1),
    ("je + vouloir + manger + du poisson", 1), ("je + vouloir + manger + un biscuit", 2),
    ("je + vouloir + manger + le goûter", 3), ("encore + de l'eau", 2),
]
PLAY = [
    ("je + vouloir + jouer", 5), ("je + vouloir + le ballon", 3), ("je + vouloir + la tablette", 4),
    ("je + vouloir + regarder + la télé", 4), ("je + vouloir + la musique", 3),
    ("je + vouloir + jouer + aux jeux vidéo", 2), ("je + vouloir + jouer + à cache-cache", 2),
    ("je + vouloir + dessiner", 2), ("je + vouloir + lire + un livre", 2),
    ("je + vouloir + une histoire", 3), ("je + vouloir + aller + au parc", 3),
    ("je + vouloir + aller + dehors", 4), ("je + vouloir + aller + à la piscine", 1),
    ("je + vouloir + aller + au jardin", 2), ("je + vouloir + les bulles", 1),
    ("je + vouloir + la balançoire", 2), ("je + vouloir + le toboggan", 2),
    ("à moi", 3), ("à toi", 3), ("encore", 4), ("fini", 3), ("je + vouloir + chanter", 1),
    ("je + vouloir + danser", 1), ("je + vouloir + la pâte à modeler", 1),
    ("tu + vouloir + jouer + avec + moi", 2), ("je + vouloir + jouer + avec + mon frère", 2),
    ("je + vouloir + les petites voitures", 1), ("je + vouloir + le puzzle", 1),
    ("regarder + ça", 2), ("je + aimer + la musique", 1), ("je + vouloir + arrêter", 2),
]
FEELINGS = [
    ("je + être + content", 3), ("je + être + triste", 2), ("je + être + fatigué", 3),
    ("je + être + malade", 1), ("je + avoir + mal + à la tête", 2),
    ("je + avoir + mal + au ventre", 2), ("je + avoir + mal + aux dents", 1),
    ("je + avoir + peur", 1), ("je + être + en colère", 1), ("je + vouloir + un câlin", 3),
    ("je + vouloir + un bisou", 2), ("je + aimer + maman", 2), ("je + aimer + papa", 1),
    ("où + être + maman", 2), ("où + être + papa", 2), ("où + être + le chat", 1),
    ("qui + être + ça", 1), ("ça va ?", 2), ("je + être + bien", 2), ("aïe !", 1),
    ("pardon", 1), ("je + vouloir + un pansement", 1), ("je + avoir + froid", 1),
    ("je + avoir + chaud", 1), ("il + être + malade", 1), ("elle + être + triste", 1),
    ("je + vouloir + voir + mamie", 2), ("je + vouloir + voir + papi", 1),
    ("je + vouloir + aller + à la maison", 2), ("je + vouloir + maman", 2),
]
EVENING = [
    ("je + vouloir + prendre un bain", 3), ("je + vouloir + prendre une douche", 1),
    ("je + vouloir + mettre + mon pyjama", 3), ("je + être + fatigué", 3),
    ("je + vouloir + dormir", 3), ("je + vouloir + une histoire", 3),
    ("je + vouloir + se brosser les dents", 1), ("je + vouloir + aller + aux toilettes", 3),
    ("bonne + nuit", 0), ("je + aimer + maman", 2), ("un bisou + s'il te plaît", 2),
    ("je + vouloir + aller + dans ma chambre", 2), ("demain + je + aller + à l'école", 1),
    ("demain + je + aller + au parc", 1), ("au revoir + papi", 1), ("au revoir + mamie", 1),
]


def pick(rng, items, n):
    items = [(m, w) for m, w in items if w > 0]
    return rng.choices([m for m, _ in items], weights=[w for _, w in items], k=n)


def main():
    rng = random.Random(38)
    lines = []
    for day in range(12):
        lines += pick(rng, MORNING, 5)
        lines += pick(rng, MEALS, 4)
        lines += pick(rng, PLAY, 6)
        lines += pick(rng, FEELINGS, 3)
        lines += pick(rng, MEALS, 4)
        lines += pick(rng, PLAY, 3)
        lines += pick(rng, EVENING, 3)
    with open("messages.txt", "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    print(len(lines), "messages,", len(set(lines)), "different")


if __name__ == "__main__":
    main()
